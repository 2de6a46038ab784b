// The test host's verdicts: every check prints one line, "ok" or "FAIL", and the program's exit status
// says whether any failed. Checks go on after a failure so one run shows everything that is wrong.
#pragma once

#include <iostream>
#include <string>

class Checks {
public:
  bool expect(bool passed, const std::string& what) {
    std::cout << (passed ? "ok    " : "FAIL  ") << what << std::endl;
    if (!passed) ++failures_;
    return passed;
  }
  void fail(const std::string& what) { expect(false, what); }
  int failures() const { return failures_; }

private:
  int failures_ = 0;
};
