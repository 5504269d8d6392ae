#pragma once

#include "axes/LabelReader.h"
#include "cli/ExtractCommand.h"

#include <iosfwd>

// The command line besides the window: `plotmeter export`, `plotmeter check`,
// `plotmeter extract`, `plotmeter calibrate`, `--help`, `--version`. They need no display and
// touch no window system.

// Whether the arguments ask for one of these commands rather than the window.
bool isCommand(int argc, char** argv);

// Runs the command; returns the exit status: 0 on success, 3 when `check` warns or
// `calibrate` has doubts, 1 after
// writing exactly one line to `err`, starting "plotmeter: ", that says what went wrong
// (and nothing to `out`). `out` only gets what was asked for (the usage, the version, the
// check's report).
// `decode` reads pictures for `extract` and `calibrate`, `readers` the tick labels for
// `calibrate`; without them, those refuse.
int runCommand(int argc, char** argv, std::ostream& out, std::ostream& err, const PictureDecoder& decode = {},
               const LabelReaders& readers = {});
