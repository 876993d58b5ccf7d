// Redirects the text layer's console to memory for the life of the object, and turns a run-time
// error stop into an exception, so that routines of the interactive program (the defaults-file
// loader, the width syntheses) can be called without writing on the real console. On
// destruction the console is standard input, output and error again.
#pragma once

#include <cstdio>
#include <string>

namespace quendrix::analysis {

// Thrown in place of the run-time error stop while a capture is active.
struct TextLayerStop {
  int status;
};

class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;
  // What was written on the console output, and on its error output, so far.
  std::string output();
  std::string errors();

 private:
  char* outBuf_ = nullptr;
  std::size_t outLen_ = 0;
  char* errBuf_ = nullptr;
  std::size_t errLen_ = 0;
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
  std::FILE* in_ = nullptr;
};

}  // namespace quendrix::analysis
