// The unrealizable-width message of the width syntheses. It goes to the console only, never
// to a report file, and ends only the one synthesis that wrote it.
#include "lines/common.h"
#include "textio/textio.h"

namespace quendrix::lines {

void reportUnrealizableWidth() {
  writeLayout(UNIT_CONSOLE_OUT,
              "(/,6X,'The Impedance requires an unrealizable Strip Width.',/,"
              "6X,'Strip Width SYNTHESIS calculations terminated by Quendrix.')");
}

}  // namespace quendrix::lines
