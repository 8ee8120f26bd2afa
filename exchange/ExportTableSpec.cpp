// CExportTableSpec is a plain options record; its members are defined in the header.

#include "exchange/ExportTableSpec.h"
