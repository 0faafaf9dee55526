#pragma once
// The preview as a command: one PNG picture per dialog and menu of a
// resource script in a folder, and a line per picture with its problems.
// It is the program tavisorn-preview, which `tavisorn-cli preview` starts:
// painting needs Qt Gui, which the command line does not load.

#include <string>
#include <vector>

// Arguments after the command's name, as the shell passed them. Returns the
// exit status: 0 no problem, 1 failed, 2 wrong use, 3 problems found.
int RunPreviewCommand(const std::vector<std::string> &args);
