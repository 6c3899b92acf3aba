// Replaced by the text library proper.
