// The whole drawing database in one include.
#pragma once

#include "host/db/dbdatabase.h"
#include "host/db/dbdict.h"
#include "host/db/dbdim.h"
#include "host/db/dbentity.h"
#include "host/db/dbents.h"
#include "host/db/dbfiler.h"
#include "host/db/dbhatch.h"
#include "host/db/dbid.h"
#include "host/db/dbinsert.h"
#include "host/db/dbobject.h"
#include "host/db/dbopaque.h"
#include "host/db/dbpoly.h"
#include "host/db/dbsolid.h"
#include "host/db/dbsymtb.h"
#include "host/db/dbxform.h"
