// Layout strings and the layout interpreter on random layouts, values and input records.
//
// Input: a flags byte, the layout up to the first 0x00, the input records (the console input)
// up to the next 0x00, then the bytes the values and targets are taken from. Each input runs
// four transfers through one layout, in this order: an advancing write, a prompt, a read that
// hands failures back (END/ERROR) and a read that stops on failure. The console is a set of
// memory streams and the stop hook throws, so a run-time stop ends only the one transfer.
//
// Properties:
//  - an invalid layout (parseLayout false) stops every transfer through the stop hook with
//    status 2 and the "Invalid layout string" message; nothing else is written;
//  - a write emits exactly what the parsed items give with the field writers: literals, blanks,
//    CR LF for each slash, the fields, the items after the last value up to the next data item,
//    and a closing CR LF unless it is a prompt; a value of the wrong type stops it instead;
//  - a read consumes one record (ending at LF, CR or CR LF) and fills its targets as the field
//    readers do on the columns the items select, a comma ending a numeric field; the end of the
//    input gives END (or stops), a bad field ERROR (or stops), a wrong target type stops;
//  - every stop writes a locus line naming the unit and the message line, and returns status 2;
//  - unconnected units stop the transfer; a read from the output console meets the end of file.
// Layouts that expand to many items or whose output would be large are skipped: parseLayout
// bounds the number of items, not the widths, and the program's own layouts are all short.
#include <stdio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "fuzz_common.h"
#include "textio/fields.h"
#include "textio/textio.h"

namespace {

using namespace quendrix_fuzz;
using quendrix::FieldStatus;
using quendrix::InTarget;
using quendrix::LayoutItem;
using quendrix::OnFailure;
using quendrix::OutValue;
using quendrix::ReadResult;

constexpr std::size_t MAX_VALUES = 16;

struct Stopped {
  int status;
};
[[noreturn]] void stopHere(int status) { throw Stopped{status}; }

// ---- Calls with a run-time number of values (the layer takes initializer lists).
using Values = std::vector<OutValue>;
using Targets = std::vector<InTarget>;

template <std::size_t... I>
void writeWith(int unit, std::string_view layout, const Values& v, bool prompt, std::index_sequence<I...>) {
  if (prompt) quendrix::promptLayout(unit, layout, {v[I]...});
  else quendrix::writeLayout(unit, layout, {v[I]...});
}
template <std::size_t... I>
ReadResult readWith(int unit, std::string_view layout, const Targets& t, OnFailure mode, std::index_sequence<I...>) {
  return quendrix::readLayout(unit, layout, {t[I]...}, mode);
}
template <std::size_t N>
void writeN(int unit, std::string_view layout, const Values& v, bool prompt) {
  writeWith(unit, layout, v, prompt, std::make_index_sequence<N>{});
}
template <std::size_t N>
ReadResult readN(int unit, std::string_view layout, const Targets& t, OnFailure mode) {
  return readWith(unit, layout, t, mode, std::make_index_sequence<N>{});
}
using WriteFn = void (*)(int, std::string_view, const Values&, bool);
using ReadFn = ReadResult (*)(int, std::string_view, const Targets&, OnFailure);
template <std::size_t... N>
constexpr std::array<WriteFn, sizeof...(N)> writers(std::index_sequence<N...>) {
  return {&writeN<N>...};
}
template <std::size_t... N>
constexpr std::array<ReadFn, sizeof...(N)> readers(std::index_sequence<N...>) {
  return {&readN<N>...};
}
constexpr auto WRITERS = writers(std::make_index_sequence<MAX_VALUES + 1>{});
constexpr auto READERS = readers(std::make_index_sequence<MAX_VALUES + 1>{});

// ---- Memory console.
struct Sink {
  char* buf = nullptr;
  std::size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  std::size_t seen = 0;
  // What was written since the last call.
  std::string fresh() {
    std::fflush(fp);
    std::string s(buf + seen, len - seen);
    seen = len;
    return s;
  }
  ~Sink() {
    std::fclose(fp);
    std::free(buf);
  }
};

bool isData(const LayoutItem& item) {
  return item.kind == LayoutItem::INT || item.kind == LayoutItem::REAL || item.kind == LayoutItem::TEXT;
}
enum Kind { INT, REAL, TEXT };
Kind kindOf(const LayoutItem& item) {
  return item.kind == LayoutItem::INT ? INT : item.kind == LayoutItem::REAL ? REAL : TEXT;
}
const char* mismatchMessage(Kind k) {
  return k == INT ? "Expected INTEGER for item I" : k == REAL ? "Expected REAL for item F" : "Expected CHARACTER for item A";
}

// The outcome a transfer should have: a stop with its message, or none.
struct Outcome {
  bool stops = false;
  std::string message;
};
Outcome stop(std::string m) { return {true, std::move(m)}; }

float someFloat(Bytes& in) {
  const std::uint8_t sel = in.byte();
  if (sel < 160) {  // a value of the size the program prints
    const auto m = static_cast<std::int16_t>(in.byte() << 8 | in.byte());
    static const float scale[] = {1.0f, 0.1f, 0.01f, 0.001f, 0.0001f};
    return static_cast<float>(m) * scale[sel % 5];
  }
  return floatOf(in.u32());
}

// Kinds of the values (or targets): those of the data items, one of them possibly wrong.
std::vector<Kind> kindsFor(const std::vector<LayoutItem>& items, Bytes& in, bool mismatch) {
  std::vector<Kind> data;
  for (const LayoutItem& it : items)
    if (isData(it) && data.size() < MAX_VALUES) data.push_back(kindOf(it));
  const std::uint8_t cb = in.byte();
  const std::size_t count = cb < 128 ? data.size() : cb % (MAX_VALUES + 1);
  std::vector<Kind> kinds;
  for (std::size_t k = 0; k < count; ++k) kinds.push_back(k < data.size() ? data[k] : static_cast<Kind>(in.byte() % 3));
  if (mismatch && !kinds.empty()) {
    const std::size_t at = in.byte() % kinds.size();
    kinds[at] = static_cast<Kind>((kinds[at] + 1 + in.byte() % 2) % 3);
  }
  return kinds;
}

// ---- Reference write: what the items give with the field writers.
struct OutValueStore {
  std::vector<Kind> kinds;
  std::vector<std::int32_t> ints;
  std::vector<float> reals;
  std::vector<std::string> texts;
  Values values;
};

Outcome referenceWrite(const std::vector<LayoutItem>& items, const OutValueStore& v, bool prompt, std::string& out) {
  std::size_t k = 0;
  for (const LayoutItem& item : items) {
    if (isData(item) && k == v.kinds.size()) break;
    switch (item.kind) {
      case LayoutItem::LITERAL: out += item.text; break;
      case LayoutItem::BLANKS: out.append(static_cast<std::size_t>(item.w), ' '); break;
      case LayoutItem::SLASH: out += "\r\n"; break;
      default: {
        const Kind want = kindOf(item);
        if (v.kinds[k] != want) return stop(mismatchMessage(want));
        if (want == INT) out += quendrix::formatInt(v.ints[k], item.w);
        if (want == REAL) out += quendrix::formatReal(v.reals[k], item.w, item.d);
        if (want == TEXT) {
          const std::string& s = v.texts[k];
          out += quendrix::formatText(s, item.w == 0 ? static_cast<int>(s.size()) : item.w);
        }
        ++k;
      }
    }
  }
  if (!prompt) out += "\r\n";
  return {};
}

// ---- Reference read.
struct TargetStore {
  std::vector<Kind> kinds;
  std::vector<std::int32_t> ints;
  std::vector<float> reals;
  std::vector<std::string> texts;
  Targets targets() {
    Targets t;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
      if (kinds[k] == INT) t.emplace_back(&ints[k]);
      if (kinds[k] == REAL) t.emplace_back(&reals[k]);
      if (kinds[k] == TEXT) t.emplace_back(&texts[k]);
    }
    return t;
  }
  bool sameAs(const TargetStore& o) const {
    for (std::size_t k = 0; k < kinds.size(); ++k)
      if (ints[k] != o.ints[k] || bitsOf(reals[k]) != bitsOf(o.reals[k]) || texts[k] != o.texts[k]) return false;
    return true;
  }
};

// The records of the console input, one per read.
struct Records {
  std::string_view text;
  std::size_t pos = 0;
  bool next(std::string& record) {
    if (pos >= text.size()) return false;
    const std::size_t end = text.find_first_of("\r\n", pos);
    record = std::string(text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (end != std::string_view::npos && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    return true;
  }
};

Outcome referenceRead(const std::vector<LayoutItem>& items, bool haveRecord, const std::string& record,
                      TargetStore& t, OnFailure mode, ReadResult& result) {
  result = ReadResult::OK;
  if (!haveRecord) {
    result = ReadResult::END;
    return mode == OnFailure::STOP ? stop("End of file") : Outcome{};
  }
  std::size_t col = 0;  // 0-based column of the record where the next item starts
  std::size_t k = 0;
  // The columns [from, from + w) of the record that exist.
  auto columns = [&](std::size_t from, std::size_t w) {
    return from >= record.size() ? std::string() : record.substr(from, w);
  };
  for (const LayoutItem& item : items) {
    if (isData(item) && k == t.kinds.size()) break;
    if (item.kind == LayoutItem::BLANKS) col += static_cast<std::size_t>(item.w);
    if (!isData(item)) continue;
    const Kind want = kindOf(item);
    if (t.kinds[k] != want) return stop(mismatchMessage(want));
    if (want == TEXT) {
      const std::size_t w = item.w == 0 ? t.texts[k].size() : static_cast<std::size_t>(item.w);
      quendrix::readText(columns(col, w), static_cast<int>(w), t.texts[k]);
      col += w;
    } else {
      std::string field = columns(col, static_cast<std::size_t>(item.w));
      const std::size_t comma = field.find(',');
      col += comma == std::string::npos ? static_cast<std::size_t>(item.w) : comma + 1;
      if (comma != std::string::npos) field.resize(comma);
      const bool ok = want == INT ? quendrix::readInt(field, t.ints[k]) == FieldStatus::OK
                                  : quendrix::readReal(field, item.d, t.reals[k]) == FieldStatus::OK;
      if (!ok) {
        result = ReadResult::ERROR;
        if (mode == OnFailure::STOP)
          return stop(want == INT ? "Bad value during integer read" : "Bad value during floating point read");
        return {};
      }
    }
    ++k;
  }
  return {};
}

// Bytes a write through these items could produce, at most; and whether formatting is cheap.
bool smallEnough(const std::vector<LayoutItem>& items) {
  if (items.size() > 2000) return false;
  std::size_t total = 0;
  for (const LayoutItem& it : items) {
    total += it.text.size() + static_cast<std::size_t>(it.w) + 2;
    if (it.kind == LayoutItem::REAL && it.d > 20000) return false;
  }
  return total <= 65536;
}

// About how many items the layout expands to, from its repeat counts, without parsing it:
// parseLayout takes long on a large expansion (up to its cap), and such layouts are skipped.
double expansionEstimate(std::string_view s) {
  std::vector<double> product{1};
  double total = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\'') {  // a literal, doubled apostrophes included
      for (++i; i < s.size(); ++i) {
        if (s[i] != '\'') continue;
        if (i + 1 < s.size() && s[i + 1] == '\'') {
          ++i;
          continue;
        }
        ++i;
        break;
      }
      total += product.back();
      continue;
    }
    if (isAsciiDigit(c) && (i == 0 || !(isAsciiLetter(s[i - 1]) || s[i - 1] == '.' || isAsciiDigit(s[i - 1])))) {
      double n = 0;
      while (i < s.size() && isAsciiDigit(s[i])) n = std::min(n * 10 + (s[i++] - '0'), 1e7);
      while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
      const char k = i < s.size() ? asciiLower(s[i]) : '\0';
      if (k == '(') {
        product.push_back(product.back() * n);
        ++i;
      } else if (k == 'h') {
        total += product.back();
        i += 1 + static_cast<std::size_t>(std::min(n, static_cast<double>(s.size())));
      } else if (k == 'x') {
        total += product.back();
        ++i;
      } else {
        total += product.back() * n;  // n fields
      }
      continue;
    }
    if (c == '(') product.push_back(product.back());
    if (c == ')' && product.size() > 1) product.pop_back();
    if (c == '/' || isAsciiLetter(c)) total += product.back();
    ++i;
  }
  return total;
}

// Checks what a transfer wrote on standard error against the outcome it should have had.
void checkStop(const char* transfer, std::string_view layout, int unit, const Outcome& want, bool stopped, int status,
               const std::string& err) {
  const std::string ctx = std::string(transfer) + " on unit " + std::to_string(unit) + " with layout " + shown(layout);
  FUZZ_CHECK(stopped == want.stops, ctx + (stopped ? " stopped: " + shown(err) : " did not stop, expected: " + want.message));
  if (!stopped) return;
  FUZZ_CHECK(status == 2, ctx + " stopped with status " + std::to_string(status));
  const std::string tail = "Quendrix run-time error: " + want.message + "\n";
  FUZZ_CHECK(err.size() > tail.size() && err.compare(err.size() - tail.size(), tail.size(), tail) == 0,
             ctx + " stopped with " + shown(err) + ", expected the message " + shown(want.message));
  const std::string locus = err.substr(0, err.size() - tail.size());
  FUZZ_CHECK(locus.rfind("At line ", 0) == 0 && locus.back() == '\n' &&
                 locus.find("(unit = " + std::to_string(unit)) != std::string::npos,
             ctx + ": bad locus line " + shown(locus));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  const std::uint8_t flags = in.byte();
  const std::string_view layout = in.until(0);
  const std::string records(in.until(0));

  if (expansionEstimate(layout) > 4000) return 0;
  std::vector<LayoutItem> items;
  const bool valid = quendrix::parseLayout(layout, items);
  if (valid && !smallEnough(items)) return 0;
  // A layout that fails only after a long expansion costs the same again in every transfer
  // and adds nothing the short invalid layouts do not cover.
  if (!valid && items.size() > 2000) return 0;
  if (!valid) items.clear();

  // Units: the console (write 6, read 5); standard error and a read from the output console;
  // file units that are not connected.
  const int sel = (flags >> 3) & 3;
  const int writeUnit = sel < 2 ? quendrix::UNIT_CONSOLE_OUT : sel == 2 ? quendrix::UNIT_STDERR : quendrix::UNIT_DIMENSIONAL;
  const int readUnit = sel < 2 ? quendrix::UNIT_CONSOLE_IN : sel == 2 ? quendrix::UNIT_CONSOLE_OUT : quendrix::UNIT_FILE2;

  // Values for the writes.
  OutValueStore v;
  v.kinds = kindsFor(items, in, (flags & 4) != 0);
  const std::size_t nv = v.kinds.size();
  v.ints.resize(nv);
  v.reals.resize(nv);
  v.texts.resize(nv);
  for (std::size_t k = 0; k < nv; ++k) {
    if (v.kinds[k] == INT) v.ints[k] = static_cast<std::int32_t>(in.u32());
    if (v.kinds[k] == REAL) v.reals[k] = someFloat(in);
    if (v.kinds[k] == TEXT) v.texts[k] = std::string(in.take(in.byte() % 41));
  }
  for (std::size_t k = 0; k < nv; ++k) {
    if (v.kinds[k] == INT) v.values.emplace_back(v.ints[k]);
    if (v.kinds[k] == REAL) v.values.emplace_back(v.reals[k]);
    if (v.kinds[k] == TEXT) v.values.emplace_back(std::string_view(v.texts[k]));
  }

  // Targets for the reads, the same for both reads.
  TargetStore t0;
  t0.kinds = kindsFor(items, in, (flags & 2) != 0);
  const std::size_t nt = t0.kinds.size();
  t0.ints.assign(nt, 0x5a5a5a5a);
  t0.reals.assign(nt, 0.5f);
  t0.texts.resize(nt);
  for (std::size_t k = 0; k < nt; ++k) t0.texts[k] = std::string(in.byte() % 30, '#');

  // The memory console.
  std::string inputCopy = records;
  FILE* inFp = inputCopy.empty() ? std::fopen("/dev/null", "r") : fmemopen(inputCopy.data(), inputCopy.size(), "r");
  if (inFp == nullptr) broken("cannot open the memory input");
  Sink out, err;
  quendrix::resetUnits();
  quendrix::setConsole(inFp, out.fp, err.fp);
  quendrix::setStopHook(stopHere);

  const std::string invalid = "Invalid layout string " + std::string(layout);

  // The two writes.
  for (const bool prompt : {false, true}) {
    Outcome want;
    std::string bytes;
    if (!valid) want = stop(invalid);
    else want = referenceWrite(items, v, prompt, bytes);
    if (!want.stops && writeUnit == quendrix::UNIT_DIMENSIONAL) want = stop("Unit is not connected for writing");
    bool stopped = false;
    int status = 0;
    try {
      WRITERS[nv](writeUnit, layout, v.values, prompt);
    } catch (const Stopped& s) {
      stopped = true;
      status = s.status;
    }
    const std::string e = err.fresh();
    if (writeUnit == quendrix::UNIT_STDERR && !want.stops) {
      FUZZ_CHECK(e == bytes, std::string(prompt ? "prompt" : "write") + " to standard error with layout " +
                                 shown(layout) + " wrote " + shown(e) + ", expected " + shown(bytes));
    } else {
      checkStop(prompt ? "prompt" : "write", layout, writeUnit, want, stopped, status, e);
    }
    const std::string o = out.fresh();
    FUZZ_CHECK(o == (writeUnit == quendrix::UNIT_CONSOLE_OUT && !want.stops ? bytes : std::string()),
               std::string(prompt ? "prompt" : "write") + " with layout " + shown(layout) + " wrote " + shown(o) +
                   ", expected " + shown(want.stops ? std::string() : bytes));
  }

  // The two reads, one record each.
  Records recs{records};
  for (const OnFailure mode : {OnFailure::REPORT, OnFailure::STOP}) {
    TargetStore got = t0, want = t0;
    ReadResult wantResult = ReadResult::OK;
    Outcome outcome;
    if (!valid) {
      outcome = stop(invalid);
    } else if (readUnit == quendrix::UNIT_FILE2) {
      outcome = stop("Unit is not connected for reading");
    } else {
      std::string record;
      const bool have = readUnit == quendrix::UNIT_CONSOLE_IN && recs.next(record);
      outcome = referenceRead(items, have, record, want, mode, wantResult);
    }
    const Targets targets = got.targets();
    bool stopped = false;
    int status = 0;
    ReadResult result = ReadResult::OK;
    try {
      result = READERS[nt](readUnit, layout, targets, mode);
    } catch (const Stopped& s) {
      stopped = true;
      status = s.status;
    }
    const char* name = mode == OnFailure::REPORT ? "read (failures handed back)" : "read (stop on failure)";
    checkStop(name, layout, readUnit, outcome, stopped, status, err.fresh());
    if (!stopped) {
      FUZZ_CHECK(result == wantResult, std::string(name) + " with layout " + shown(layout) + " on input " +
                                           shown(records) + " gives result " + std::to_string(static_cast<int>(result)) +
                                           ", expected " + std::to_string(static_cast<int>(wantResult)));
      FUZZ_CHECK(got.sameAs(want), std::string(name) + " with layout " + shown(layout) + " on input " + shown(records) +
                                       " fills its targets unlike the field readers");
    }
    FUZZ_CHECK(out.fresh().empty(), std::string(name) + " wrote to standard output");
  }

  quendrix::resetUnits();
  quendrix::setConsole(stdin, stdout, stderr);
  quendrix::setStopHook(nullptr);
  std::fclose(inFp);
  return 0;
}
