// SANE's option descriptor as the library's plain value.
#pragma once

#include "scan/OptionDescriptor.h"

#include <sane/sane.h>

OptionDescriptor DescriptorOf(int index, const SANE_Option_Descriptor& sane);
