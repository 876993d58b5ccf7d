// The unrealizable-width message of the dimensional step.
#include "dialogue/unrealizable.h"

#include "textio/textio.h"

namespace quendrix {

void reportUnrealizableWidth() {
  writeLayout(UNIT_CONSOLE_OUT,
              "(/,6X,'The Impedance requires an unrealizable Strip Width.',/,"
              "6X,'Strip Width SYNTHESIS calculations terminated by Quendrix.')");
}

}  // namespace quendrix
