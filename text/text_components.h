#pragma once
// The components this library provides. Its own entry points call the registration before
// they create a component, so no caller has to remember it; calling it again does nothing.

namespace yejian::text {

void register_text_components();

} // namespace yejian::text
