#pragma once
// Whole-process timing: a program started, waited for and timed from outside,
// start-up and file I/O included, as a user's script would meet it.

#include <optional>
#include <string>
#include <vector>

namespace codecbench {

using Command = std::vector<std::string>;

// Wall-clock seconds of one run with its output discarded; nothing if the
// program could not start or did not exit with status 0.
std::optional<double> timeProcess(const Command& command);

double median(std::vector<double> values);

std::string describe(const Command& command);

}  // namespace codecbench
