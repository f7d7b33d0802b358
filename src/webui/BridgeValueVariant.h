#pragma once

// BridgeValue as a GVariant, for passing arguments to page scripts: booleans "b", numbers
// "d", strings "s", arrays "av", objects "a{sv}", null an empty maybe "mv".

#include "bridge/BridgeValue.h"

#include <glib.h>

namespace quorin {

// A floating GVariant.
GVariant* toGVariant(const BridgeValue& value);

} // namespace quorin
