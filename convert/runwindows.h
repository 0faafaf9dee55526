#pragma once
// The conversion runs as the user sees them: the shared progress window
// follows a run's stages, a run that stops says why in a message box (a
// script that cannot be written in the application's error report), and an
// interpreter that ends in failure, or whose output the program cannot read
// or pass on, is reported over the active window. The report of a run that
// went well is the business of the window that started it.

class ScriptRunner;

// Shows the runs of `runner` in the program's windows from now on, for as
// long as the runner lives. Asking again changes nothing: each run is shown once.
void ShowRunsInWindows(ScriptRunner &runner);
