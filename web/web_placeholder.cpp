// Replaced by the web library proper.
