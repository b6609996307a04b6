#pragma once

#include "platform/byte_channel.h"

namespace unitcheck::server {

// The server reads its client's bytes from a ByteSource and writes its messages and its log to
// ByteSinks: standard input and output (FdSource, FdSink), or a test's text.
using unitcheck::ByteSink;
using unitcheck::ByteSource;
using unitcheck::FdSink;
using unitcheck::FdSource;

}  // namespace unitcheck::server
