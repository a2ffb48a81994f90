#pragma once
// The base library: the root object g_pOroBase and everything reached through it.

#include "orodebug.h"
#include "oroini.h"
#include "orolinkedlist.h"
#include "orolocstring.h"
#include "ororeport.h"
#include "orostring.h"

class COroBaseInternal {
public:
    int32_t resourceTypeCount = 0;
};

class COroBase {
public:
    COroBase();
    ~COroBase();
    COroBase(const COroBase&) = delete;
    COroBase& operator=(const COroBase&) = delete;

    COroIni* ini;
    COroDebug* debug;

private:
    COroBaseInternal* internal;
};

extern COroBase* g_pOroBase;

// Report through the root object's debug object when it exists, else straight
// to the report handler, so that reports raised outside its lifetime still show.
void OroWarning(const char* pModule, int32_t nLine, const char* pMessage = nullptr);
[[noreturn]] void OroAssert(const char* pModule, int32_t nLine, const char* pMessage = nullptr);
