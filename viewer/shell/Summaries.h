#pragma once
// The five summary boxes of the main window: the dimensions of a dataset, its coordinate,
// fixed and record variables, and the record variables of the second file. Each entry ends
// with CR CR LF, as the boxes have always held them.
#include "runtime/Types.h"

#include <string>

class QPlainTextEdit;

// The texts, read from slot nNc of clsNC.
std::string DimensionsSummary(Long nNc);
std::string VariablesSummary(Long nNc);       // coordinate variables (kind 1)
std::string FixedVariablesSummary(Long nNc);  // kind 2, or "(No fixed variable exists)"
std::string RecordVariablesSummary(Long nNc); // kind 3, or "(No record variable exists)"
std::string ExtraVariablesSummary(Long nNc);  // kind 3, or "(No extra variable exists)"

// The size texts of the two kinds of summary, for a size in bytes.
std::string FixedSizeText(float bytes);  // " #0bytes", " #0.00K", " #0.0M"
std::string RecordSizeText(float bytes); // " #0.00K", " #0.0M", " #0.0Tra"

// Put the summary into the box (one entry a line: the box shows each CR CR LF as one line
// break), then let pending window events run once.
void ListDimensions(QPlainTextEdit* txt, Long nNc);
void ListVariables(QPlainTextEdit* txt, Long nNc);
void ListFixedVariables(QPlainTextEdit* txt, Long nNc);
void ListRecordVariables(QPlainTextEdit* txt, Long nNc);
void ListExtraVariables(QPlainTextEdit* txt, Long nNc);
