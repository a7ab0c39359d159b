// Serialises a built class as a class file of version 45.3.
#pragma once

#include "bytes.h"
#include "class_model.h"

namespace jal {

Bytes classFileBytes(const ClassModel& cls);

} // namespace jal
