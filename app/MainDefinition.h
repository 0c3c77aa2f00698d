#pragma once

#include "forms/FormDefinition.h"

namespace linkvane {

// The stored layout of the main window: 22 controls over one background picture.
const FormDefinition& MainDefinition();

}  // namespace linkvane
