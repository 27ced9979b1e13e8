// qf-host.exe ends its lines as qf-host does everywhere, in "\n" alone, so that
// its JSON and its messages are the same bytes on every platform: standard
// output and standard error are switched out of the Windows C runtime's text
// mode (which writes "\r\n") before anything is written to them.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

const bool kBinaryStandardStreams = [] {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return true;
}();

}  // namespace
