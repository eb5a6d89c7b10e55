#pragma once

// The exit statuses of cmctl, the same for every sub-command.
namespace ExitStatus {
constexpr int Success = 0;
// The service answered, and its answer was a failure (its error id goes to stderr).
constexpr int Refused = 1;
constexpr int Usage = 2;
// No bus, no service on it, or no answer in time.
constexpr int Unreachable = 3;
} // namespace ExitStatus
