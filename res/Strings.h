// The string table.
#pragma once

#include <QString>

// The string with this ID, or an empty string when there is none.
QString LoadResourceString(int id);
