// The layout interpreter: writes values through a layout string, reads records through one.
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "textio/fields.h"
#include "textio/textio.h"
#include "textio/units.h"

namespace quendrix {

namespace {

// Hash and equality that take a layout as a string_view, so that looking one up in the cache
// makes no copy of it.
struct LayoutHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Each layout string is parsed once; the program uses a few dozen of them.
const std::vector<LayoutItem>& itemsOf(std::string_view layout, int unit, std::source_location where) {
  static std::unordered_map<std::string, std::vector<LayoutItem>, LayoutHash, std::equal_to<>> cache;
  auto it = cache.find(layout);
  if (it == cache.end()) {
    std::string key(layout);
    std::vector<LayoutItem> items;
    if (!parseLayout(layout, items)) detail::runtimeStop(where, unit, "Invalid layout string " + key);
    if (cache.size() > 4096) cache.clear();  // bounded, should layouts ever come from outside
    it = cache.emplace(std::move(key), std::move(items)).first;
  }
  return it->second;
}

bool isData(const LayoutItem& item) {
  return item.kind == LayoutItem::INT || item.kind == LayoutItem::REAL || item.kind == LayoutItem::TEXT;
}

void write(int unit, std::string_view layout, std::initializer_list<OutValue> values, bool prompt,
           std::source_location where) {
  const std::vector<LayoutItem>& items = itemsOf(layout, unit, where);
  std::string out;
  auto value = values.begin();
  for (const LayoutItem& item : items) {
    if (isData(item) && value == values.end()) break;  // the items after the last value stop here
    switch (item.kind) {
      case LayoutItem::LITERAL: out += item.text; break;
      case LayoutItem::BLANKS: out.append(static_cast<std::size_t>(item.w), ' '); break;
      case LayoutItem::SLASH: out += "\r\n"; break;
      case LayoutItem::INT:
        if (const auto* i = std::get_if<std::int32_t>(value)) out += formatInt(*i, item.w);
        else detail::runtimeStop(where, unit, "Expected INTEGER for item I");
        ++value;
        break;
      case LayoutItem::REAL:
        if (const auto* f = std::get_if<float>(value)) out += formatReal(*f, item.w, item.d);
        else detail::runtimeStop(where, unit, "Expected REAL for item F");
        ++value;
        break;
      case LayoutItem::TEXT:
        if (const auto* s = std::get_if<std::string_view>(value))
          out += formatText(*s, item.w == 0 ? static_cast<int>(s->size()) : item.w);
        else detail::runtimeStop(where, unit, "Expected CHARACTER for item A");
        ++value;
        break;
    }
  }
  if (!prompt) out += "\r\n";
  detail::emit(unit, out, prompt, where);
}

}  // namespace

void writeLayout(int unit, std::string_view layout, std::initializer_list<OutValue> values,
                 std::source_location where) {
  write(unit, layout, values, false, where);
}

void promptLayout(int unit, std::string_view layout, std::initializer_list<OutValue> values,
                  std::source_location where) {
  write(unit, layout, values, true, where);
}

ReadResult readLayout(int unit, std::string_view layout, std::initializer_list<InTarget> targets,
                      OnFailure mode, std::source_location where) {
  const std::vector<LayoutItem>& items = itemsOf(layout, unit, where);
  std::string record;
  if (!detail::readRecord(unit, record, where)) {
    if (mode == OnFailure::REPORT) return ReadResult::END;
    detail::runtimeStop(where, unit, "End of file");
  }
  std::size_t pos = 0;  // column of the record (0-based)
  auto target = targets.begin();
  for (const LayoutItem& item : items) {
    if (isData(item) && target == targets.end()) break;
    switch (item.kind) {
      case LayoutItem::BLANKS: pos += static_cast<std::size_t>(item.w); break;
      case LayoutItem::LITERAL:
      case LayoutItem::SLASH: break;
      case LayoutItem::TEXT: {
        auto* s = std::get_if<std::string*>(target);
        if (s == nullptr) detail::runtimeStop(where, unit, "Expected CHARACTER for item A");
        const std::size_t w = item.w == 0 ? (*s)->size() : static_cast<std::size_t>(item.w);
        const std::string_view field =
            pos < record.size() ? std::string_view(record).substr(pos, w) : std::string_view();
        readText(field, static_cast<int>(w), **s);
        pos += w;
        ++target;
        break;
      }
      case LayoutItem::INT:
      case LayoutItem::REAL: {
        // A numeric field takes the next w columns, or ends early at the line end or a comma,
        // which is consumed.
        std::string_view field;
        if (pos < record.size()) field = std::string_view(record).substr(pos, static_cast<std::size_t>(item.w));
        const std::size_t comma = field.find(',');
        if (comma != std::string_view::npos) {
          field = field.substr(0, comma);
          pos += comma + 1;
        } else {
          pos += static_cast<std::size_t>(item.w);
        }
        if (item.kind == LayoutItem::INT) {
          auto* i = std::get_if<std::int32_t*>(target);
          if (i == nullptr) detail::runtimeStop(where, unit, "Expected INTEGER for item I");
          if (readInt(field, **i) != FieldStatus::OK) {
            if (mode == OnFailure::REPORT) return ReadResult::ERROR;
            detail::runtimeStop(where, unit, "Bad value during integer read");
          }
        } else {
          auto* f = std::get_if<float*>(target);
          if (f == nullptr) detail::runtimeStop(where, unit, "Expected REAL for item F");
          if (readReal(field, item.d, **f) != FieldStatus::OK) {
            if (mode == OnFailure::REPORT) return ReadResult::ERROR;
            detail::runtimeStop(where, unit, "Bad value during floating point read");
          }
        }
        ++target;
        break;
      }
    }
  }
  return ReadResult::OK;
}

}  // namespace quendrix
