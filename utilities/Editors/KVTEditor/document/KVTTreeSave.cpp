// The save walk: appends the node tree to a fresh CResKVT in depth-first order
// (which fixes the record layout of the file), then writes it.
//
// The walk runs on an explicit stack of frames rather than by recursion, so a
// tree that pastes made deeper than any loaded file is still saved safely.
// Each frame is one struct node whose children are being written, in exactly
// the order a recursive walk would take.

#include <memory>
#include <string_view>
#include <vector>

#include "atomicfile.h"
#include "KVTFieldDataSize.h"
#include "KVTFileChecks.h"
#include "KVTTreeNodes.h"
#include "KVTWalkTrail.h"

namespace {

const char kModule[] = "KVTTreeNodes";

enum : int32_t {
    kLineChildFailed = 401,
    kLineStructChildFailed = 402,
    kLineStrangeType = 403,
    kLineListNamesake = 404,
    kLineUnopenableFileType = 405,
    kLineShortFileType = 406,
};

const char kStrangeness[] = "WARNING!  Strangeness happening, non list or struct type saying it is one.!";

struct CSaveFrame {
    enum TStep { NextChild, AfterStructChild, ListElements };

    CSaveFrame(CKvtNodeStruct* pStructNode, const CKvtStructHandle& structHandle, size_t nTrailDepth)
        : pNode(pStructNode), handle(structHandle), nDepth(nTrailDepth)
    {
    }

    CKvtNodeStruct* pNode;
    CKvtStructHandle handle;
    // The trail's length while this struct's children are written: its
    // children go at this position of the trail.
    size_t nDepth;
    int32_t nChild = 0;
    bool bOk = true;
    TStep nStep = NextChild;
    // State of the list child being written: its element structs, made in a
    // first pass before any element's fields are written.
    CKvtNodeStruct* pList = nullptr;
    std::vector<CKvtStructHandle> elements;
    std::vector<bool> created;
    int32_t nElement = 0;
};

class CSaveWalk {
public:
    explicit CSaveWalk(CResKVT* pRes) : m_pRes(pRes), m_pTrail(CKvtWalkTrail::Current()) {}

    bool Run(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct)
    {
        PushFrame(pNode, *pStruct, m_pTrail ? m_pTrail->Depth() : 0);
        bool bResult = true;
        while (!m_Frames.empty()) {
            if (m_pTrail && m_pTrail->IsCancelled())
                return false;
            if (!Step()) {
                bResult = m_Frames.back().bOk;
                m_Frames.pop_back();
                if (!m_Frames.empty())
                    m_Frames.back().bOk = bResult && m_Frames.back().bOk;
            }
        }
        return bResult;
    }

private:
    // Advances the top frame by one step; false when it has finished.
    bool Step()
    {
        CSaveFrame& frame = m_Frames.back();
        switch (frame.nStep) {
        case CSaveFrame::NextChild:
            if (frame.nChild >= frame.pNode->GetChildCount())
                return false;
            WriteChild(frame);
            return true;
        case CSaveFrame::AfterStructChild:
            // Back at the struct or list child whose subtree was written.
            if (m_pTrail)
                m_pTrail->CutTo(frame.nDepth + 1);
            if (!frame.bOk)
                OroWarning(kModule, kLineStructChildFailed, "A field inside this struct or list could not be saved.");
            ++frame.nChild;
            frame.nStep = CSaveFrame::NextChild;
            return true;
        case CSaveFrame::ListElements:
            NextListElement(frame);
            return true;
        }
        return false;
    }

    void WriteChild(CSaveFrame& frame)
    {
        CKvtNodeBase* pChild = frame.pNode->GetChild(frame.nChild);
        MoveTrail(frame.nDepth, pChild);
        const char* pLabel = pChild->m_sLabel.CStr();
        frame.bOk = pChild->Save(&frame.handle, pLabel) && frame.bOk;
        if (!frame.bOk) {
            COroString sMessage;
            sMessage.Format("A field of this struct could not be saved (at field '%s').", pLabel);
            OroWarning(kModule, kLineChildFailed, sMessage.CStr());
        }
        CKvtNodeStruct* pStruct = pChild->GetStructNode();
        if (!pStruct) {
            ++frame.nChild;
            return;
        }
        frame.nStep = CSaveFrame::AfterStructChild;
        if (pChild->GetType() == ftSTRUCT) {
            CKvtStructHandle held{};
            if (!m_pRes->AddStructField(&held, &frame.handle, pLabel, pChild->GetStructID())) {
                frame.bOk = false;
                return;
            }
            PushFrame(pStruct, held, frame.nDepth + 1);  // invalidates frame
        } else if (pChild->GetType() == ftLIST) {
            StartList(frame, pStruct, pLabel);
        } else {
            OroWarning(kModule, kLineStrangeType, kStrangeness);
        }
    }

    void StartList(CSaveFrame& frame, CKvtNodeStruct* pList, const char* pLabel)
    {
        // Elements are appended to the list that a lookup by label finds, and
        // that is always the first field of the struct with the label. A list
        // whose label an earlier field already carries cannot hold elements of
        // its own: appending them would grow that earlier list instead (every
        // save and reopen would double it) or fail when it is no list.
        const bool bNamesake = m_pRes->GetFieldIndexByLabel(&frame.handle, pLabel) >= 0;
        CKvtListHandle list{};
        if (!m_pRes->AddList(&list, &frame.handle, pLabel)) {
            frame.bOk = false;
            return;
        }
        const int32_t nCount = bNamesake ? 0 : pList->GetChildCount();
        if (bNamesake && pList->GetChildCount() > 0) {
            COroString sMessage;
            sMessage.Format("List '%s' shares its label with an earlier field; its elements are not saved.", pLabel);
            OroWarning(kModule, kLineListNamesake, sMessage.CStr());
        }
        frame.pList = pList;
        frame.elements.assign(static_cast<size_t>(nCount), CKvtStructHandle{});
        frame.created.assign(static_cast<size_t>(nCount), false);
        for (int32_t j = 0; j < nCount; ++j) {
            const bool bCreated = m_pRes->AddListElement(&frame.elements[static_cast<size_t>(j)], &list,
                                                         pList->GetChild(j)->GetStructID());
            frame.created[static_cast<size_t>(j)] = bCreated;
            frame.bOk = bCreated && frame.bOk;
        }
        frame.nElement = 0;
        frame.nStep = CSaveFrame::ListElements;
    }

    void NextListElement(CSaveFrame& frame)
    {
        if (frame.nElement >= static_cast<int32_t>(frame.elements.size())) {
            frame.elements.clear();
            frame.created.clear();
            frame.pList = nullptr;
            frame.nStep = CSaveFrame::AfterStructChild;
            return;
        }
        const size_t j = static_cast<size_t>(frame.nElement++);
        // Any node may sit in a list; only struct-like ones have fields to write.
        CKvtNodeStruct* pElement = frame.pList->GetChild(static_cast<int32_t>(j))->GetStructNode();
        // The trail: the list at the frame's depth, the element below it.
        MoveTrail(frame.nDepth + 1, frame.pList->GetChild(static_cast<int32_t>(j)));
        if (frame.created[j] && pElement) {
            const CKvtStructHandle handle = frame.elements[j];
            const size_t nDepth = frame.nDepth + 2;
            PushFrame(pElement, handle, nDepth);  // invalidates frame
        }
    }

    // A struct about to be written: its field count is known, so its field
    // indices get their room in one step.
    void PushFrame(CKvtNodeStruct* pNode, const CKvtStructHandle& handle, size_t nDepth)
    {
        m_pRes->ExpectFieldCount(&handle, pNode->GetChildCount());
        m_Frames.emplace_back(pNode, handle, nDepth);
    }

    void MoveTrail(size_t nDepth, CKvtNodeBase* pNode)
    {
        if (m_pTrail)
            m_pTrail->MoveTo(nDepth, pNode);
    }

    CResKVT* m_pRes;
    CKvtWalkTrail* m_pTrail;
    std::vector<CSaveFrame> m_Frames;
};

} // namespace

bool SaveStructFields(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct)
{
    if (!s_pCurrentRes)
        return false;
    CSaveWalk walk(s_pCurrentRes);
    return walk.Run(pNode, pStruct);
}

bool CKvtNodeTopLevelStruct::SaveDocument(const char* pFileName)
{
    // A file type that the header check refuses would give a file that cannot
    // be opened again. A shorter one would fail in the walk below at every
    // node, one warning each: it fails here, once.
    const std::string_view sFileType(m_sFileType.CStr(), static_cast<size_t>(m_sFileType.GetLength()));
    if (sFileType.size() < 4) {
        COroString sMessage;
        sMessage.Format("The file type '%s' is shorter than four characters; nothing was saved.", m_sFileType.CStr());
        OroWarning(kModule, kLineShortFileType, sMessage.CStr());
        return false;
    }
    if (sFileType.size() == 4 && !IsOpenableFileType(sFileType)) {
        COroString sMessage;
        sMessage.Format("The file type '%s' is not letters or digits padded with spaces, so the file could not be "
                        "opened again; nothing was saved.",
                        m_sFileType.CStr());
        OroWarning(kModule, kLineUnopenableFileType, sMessage.CStr());
        return false;
    }
    std::unique_ptr<CResKVT> pRes(new CResKVT);
    CKvtStructHandle top{};
    pRes->CreateNew(&top, m_sFileType);
    const KvtSaveSize_st size = CountSaveSize(this);
    pRes->MakeRoomForFieldData(size.nFieldDataBytes);
    pRes->MakeRoomForRecords(size.nFields, size.nStructs, size.nFieldIndices);

    bool bWalk = false;
    {
        const CKvtCurrentResource current(pRes.get());
        const CKvtWalkTrail trail(this, size.nNodes);
        // A stopped walk fails, so the target is never touched.
        bWalk = SaveStructFields(this, &top) && !trail.IsCancelled();
    }

    // Nothing reaches the target unless everything went right.
    if (!bWalk || !pRes->GetHeader())
        return false;
    CAtomicFileReplacement target(pFileName ? pFileName : "");
    if (!target.IsReady())
        return false;
    if (!pRes->SaveToFile(target.TempPath().c_str()))
        return false;
    return target.Commit();
}
