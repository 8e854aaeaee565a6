#include "platform/registry/result.h"

namespace registry {

const char* describe(Errc code) {
  switch (code) {
    case Errc::NotFound:
      return "not found";
    case Errc::InvalidName:
      return "invalid name";
    case Errc::MoreData:
      return "buffer too small";
    case Errc::Corrupt:
      return "damaged file";
    case Errc::Io:
      return "input/output error";
    case Errc::NoStore:
      return "no place for the store";
  }
  return "unknown";
}

}  // namespace registry
