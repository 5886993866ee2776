#include "platform/machine/Machine.h"

namespace torvex::platform {

MachineError::MachineError(const std::string& file, int line, const std::string& what)
    : std::runtime_error(line > 0 ? file + ":" + std::to_string(line) + ": " + what
                                  : file + ": " + what),
      file_(file),
      line_(line) {}

}  // namespace torvex::platform
