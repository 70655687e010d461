// String resources by ID.
#include "res/Strings.h"

#include "res/Resource.h"

QString LoadResourceString(int id) {
    switch (id) {
    case IDS_ABOUTBOX:
        return QStringLiteral("バージョン情報 Tamrel(&A)...");
    default:
        break;
    }
    return {};
}
