#include "library/ghostfile/ImportMessages.h"

std::string_view numberFault(NumberError error) {
  switch (error) {
    case NumberError::OutOfRange: return "out of range";
    case NumberError::NotFinite: return "not a finite number";
    case NumberError::None:
    case NumberError::NoNumber: break;
  }
  return "not a number";
}

std::string numberProblem(NumberError error) { return "is " + std::string(numberFault(error)); }

std::string badFieldReason(FrameField field, NumberError error) {
  return "the " + std::string(frameFieldName(field)) + " value " + numberProblem(error);
}

std::string longHeaderReason() {
  return "longer than the " + std::to_string(ghostLineLimit) + " bytes the settings page reads";
}

std::string longLineReason() { return "the line is longer than " + std::to_string(ghostLineLimit) + " bytes"; }

std::string framesLoadedText(std::size_t framesLoaded) {
  return "(frames loaded: " + std::to_string(framesLoaded) + ")";
}

std::string importStopMessage(std::string_view selection, std::size_t lineNumber, std::string_view reason,
                              std::size_t framesLoaded) {
  return "Stopped reading " + std::string(selection) + " at line " + std::to_string(lineNumber) + ": " +
         std::string(reason) + " " + framesLoadedText(framesLoaded) + ".";
}

std::string skippedLinesMessage(std::string_view selection, std::size_t skipped) {
  return "Skipped " + std::to_string(skipped) + (skipped == 1 ? " line of " : " lines of ") + std::string(selection) +
         " with " + std::string(tooFewFieldsReason) + ".";
}
