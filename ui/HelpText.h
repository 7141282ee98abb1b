#pragma once

#include <string>

namespace zp {

// The user guide of the help window: fixed English text in the system's code
// page, lines separated by CR LF as a multi-line edit control wants them.
const std::string& HelpText();

}  // namespace zp
