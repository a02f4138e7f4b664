#pragma once
#include <QtCore/qglobal.h>

#if defined(VENDALO_BUILD)
#define VENDALO_EXPORT Q_DECL_EXPORT
#else
#define VENDALO_EXPORT Q_DECL_IMPORT
#endif
