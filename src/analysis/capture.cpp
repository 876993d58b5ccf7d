// Console capture around calls into the text layer.
#include "analysis/capture.h"

#include <cstdlib>

#include "textio/textio.h"

namespace quendrix::analysis {

namespace {

[[noreturn]] void throwStop(int status) { throw TextLayerStop{status}; }

}  // namespace

ConsoleCapture::ConsoleCapture() {
  out_ = open_memstream(&outBuf_, &outLen_);
  err_ = open_memstream(&errBuf_, &errLen_);
  in_ = std::fopen("/dev/null", "r");  // nothing here reads the console
  if (out_ == nullptr || err_ == nullptr || in_ == nullptr) std::abort();
  setConsole(in_, out_, err_);
  setStopHook(throwStop);
}

ConsoleCapture::~ConsoleCapture() {
  setConsole(stdin, stdout, stderr);
  setStopHook(nullptr);
  std::fclose(out_);
  std::fclose(err_);
  std::fclose(in_);
  std::free(outBuf_);
  std::free(errBuf_);
}

std::string ConsoleCapture::output() {
  std::fflush(out_);
  return std::string(outBuf_, outLen_);
}

std::string ConsoleCapture::errors() {
  std::fflush(err_);
  return std::string(errBuf_, errLen_);
}

}  // namespace quendrix::analysis
