#include "KvtToolPaths.h"

#include <cstdio>
#include <string>

#include "KVTCaption.h"
#include "KVTNodePath.h"
#include "KVTPathWalk.h"
#include "KvtToolOutput.h"

int PrintNodePaths(CKvtNodeTopLevelStruct* pRoot)
{
    std::string sOut;
    CKvtPathWalk walk(TKvtChildOrder::Caption, true);
    walk.Run(pRoot, [&](const KvtWalkVisit_st& visit) {
        sOut += visit.sPath;
        sOut += '\n';
        return TKvtWalkStep::Continue;
    });
    return WriteToolOutput(sOut);
}

int PrintNodeAtPath(CKvtNodeTopLevelStruct* pRoot, const char* pPath)
{
    const KvtPathLookup_st lookup = ResolveNodePath(pRoot, pPath);
    if (!lookup.pNode) {
        if (lookup.nError == TKvtPathError::Syntax)
            std::fprintf(stderr, "kvttool: not a path (at byte %zu): %s\n", lookup.nOffset, pPath);
        else
            std::fprintf(stderr, "kvttool: no node has the path %s (from byte %zu)\n", pPath, lookup.nOffset);
        return kToolExitNoSuchPath;
    }
    std::string sOut = GetNodeCaption(lookup.pNode, true).CStr();
    sOut += '\n';
    return WriteToolOutput(sOut);
}
