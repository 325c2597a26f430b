#pragma once
namespace wellenschau {
// The program's exit statuses; README and the manual page list them.
enum TExitStatus : int {
  ExitSuccess = 0,
  ExitError = 1,
  ExitUsage = 2,
  ExitInputShort = 3,
  ExitSignalBase = 128,
};
}  // namespace wellenschau
