// The unrealizable-width message of the dimensional step.
#pragma once

namespace quendrix {

// Writes on the console, and never to a report file, that the impedance asked for needs a
// strip too narrow to build, or one the width search could not find. It ends only the one
// width synthesis it follows.
void reportUnrealizableWidth();

}  // namespace quendrix
