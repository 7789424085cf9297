// Building Loscan's device catalogue from the reader product data, and finding a model in it.
#pragma once
#include <string>

#include "loscan/device_model.h"

// Fills all 19 records in catalogue order. On Windows Me (osVersion "WinMe") the readers whose
// 9x ids take another form there get that form instead of their default one.
void BuildDeviceCatalogue(DeviceModel (&models)[kModelCount], const char* osVersion);

// Position (0-based) of the model whose name equals name exactly, or -1.
int FindModelIn(const DeviceModel (&models)[kModelCount], const std::string& name);
