#include "vork/progdir.h"

#include "vork_build_id.h"

namespace vork {

const char* buildId()
{
    return VORK_BUILD_ID;
}

} // namespace vork
