#pragma once

#include <string_view>

namespace Vellmar::Resources {

// The UTF-8 message document built into the executable.
std::string_view EmbeddedMessagesXml();

} // namespace Vellmar::Resources
