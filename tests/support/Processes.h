#pragma once

namespace clipforge::test {

// Neither running nor waiting to be reaped by anyone but us: a killed process whose parent has
// not reaped it yet is a zombie, which counts as gone.
bool processGone(long pid);
// Our own child has ended and been reaped.
bool reaped(long pid);

}  // namespace clipforge::test
