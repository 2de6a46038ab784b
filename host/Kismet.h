// Handles to the current map's Kismet scripting objects: sequences and their named, typed variables.
// A handle whose object went away with its map reads as empty: its parent sequence is empty, reads give
// zero values and writes are dropped.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host/Api.h"
#include "host/HandleWrapper.h"
#include "host/Values.h"

class SequenceVariableWrapper;

class TESSARO_SDK_API SequenceWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  std::map<std::string, SequenceVariableWrapper> GetAllSequenceVariables(bool recursive);
};

class TESSARO_SDK_API SequenceObjectWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  SequenceWrapper GetParentSequence();
};

class TESSARO_SDK_API SequenceVariableWrapper : public SequenceObjectWrapper {
public:
  using SequenceObjectWrapper::SequenceObjectWrapper;

  std::string GetVarName();
  bool IsInt();
  bool IsFloat();
  bool IsString();
  bool IsVector();

  int GetInt();
  std::string GetString();

  void SetFloat(float value);
  void SetVector(Vector value);
};
