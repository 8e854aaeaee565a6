// Feeds arbitrary bytes to the store's parser. Beyond not crashing, checks
// that the document builder and the streaming lookup agree on every input,
// and that whatever parses is written back in a form that parses to the same
// thing (the writer's output is a fixed point).

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/document.h"
#include "platform/registry/key_lookup.h"
#include "platform/registry/reg_writer.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Velmora\\Photo";

void checkLookupAgrees(std::string_view text, const registry::Document* doc) {
  registry::KeyLookup lookup(kKey, "En");
  const bool parsed = registry::parseRegText(text, lookup).ok();
  check(parsed == (doc != nullptr));
  if (!doc) return;
  check(lookup.keyFound() == doc->hasKey(kKey));
  const registry::Value* value = doc->find(kKey, "En");
  check(lookup.found().has_value() == (value != nullptr));
  if (value) check(*lookup.found() == *value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto parsed = registry::Document::parse(text);
  checkLookupAgrees(text, parsed ? &*parsed : nullptr);
  if (!parsed) return 0;

  const std::string once = registry::serialize(*parsed);
  auto again = registry::Document::parse(once);
  check(again.ok());
  check(registry::serialize(*again) == once);

  // A write on top of whatever was there still yields a valid file.
  again->setValue(std::string(kKey), "En", registry::Value::dword(105));
  check(registry::Document::parse(registry::serialize(*again)).ok());
  return 0;
}
