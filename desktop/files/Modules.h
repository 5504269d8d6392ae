#pragma once

#include "axes/LabelReader.h"

#include <QtGlobal>

// The program's modules, loaded the first time they are needed so that the libraries
// they bring cost nothing at start-up: libplotmeter-pdf (Qt PDF) and libplotmeter-ocr
// (Tesseract). Each is looked for beside the program (as built), where it is installed,
// and in the build folder (for the tests).

// The named entry point of the module ("plotmeter-pdf"); null when the module or the
// entry cannot be found.
QFunctionPointer moduleEntry(const char* module, const char* symbol);

// Tick label readers made by the OCR module; they make null readers when it is missing,
// which Find Axes reports.
LabelReaders moduleLabelReaders();
