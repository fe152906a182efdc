#include "rfc/catalogue/DbOraMainList.h"

CDbOraMainList::CDbOraMainList() : CBaseRfc(u"DB_ORA_MAIN_LIST") {}
