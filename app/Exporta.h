#pragma once
#include <QtCore/qglobal.h>

#if defined(QELTRANO_BUILD)
#define QELTRANO_EXPORT Q_DECL_EXPORT
#else
#define QELTRANO_EXPORT Q_DECL_IMPORT
#endif
