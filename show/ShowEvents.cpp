#include "show/ShowEvents.h"

namespace ls {

const char* SkipReasonName(SkipReason reason) {
  switch (reason) {
    case SkipReason::kMissing: return "missing";
    case SkipReason::kUndecodable: return "undecodable";
  }
  return "";
}

const char* ExitReasonName(ExitReason reason) {
  switch (reason) {
    case ExitReason::kEsc: return "esc";
    case ExitReason::kKey: return "key";
    case ExitReason::kClick: return "click";
    case ExitReason::kMove: return "move";
    case ExitReason::kDeactivate: return "deactivate";
    case ExitReason::kTime: return "time";
  }
  return "";
}

}  // namespace ls
