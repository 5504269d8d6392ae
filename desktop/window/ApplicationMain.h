#pragma once

// Starts Plotmeter: makes the application and its window, opens the picture named on the
// command line if any, and runs the event loop; returns the process's exit status.
int plotmeterApplicationMain(int argc, char** argv);
