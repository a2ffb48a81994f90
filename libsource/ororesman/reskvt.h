#pragma once
// CResKVT: one KVT file in memory. It loads a file (every table copied into a
// growable buffer of its own), answers queries about structs, fields and lists,
// reads typed values by label, builds new files by appending, and saves them.
// Every loaded file is treated as hostile: each offset, count and length is
// checked in 64-bit arithmetic before it is used.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "kvttable.h"
#include "orolocstring.h"
#include "orostring.h"
#include "ororesman.h"

// A struct inside a CResKVT: valid while the index is below the struct count.
struct CKvtStructHandle {
    uint32_t nStructIndex;
};

// A LIST field: the struct holding it and the field's 16-byte label (zero-padded,
// not terminated). List operations find the field again by these 16 bytes.
struct CKvtListHandle {
    uint32_t nStructIndex;
    char label[16];
};

// Field type codes as stored in the field records.
enum : int32_t {
    KVT_BYTE = 0,
    KVT_CHAR = 1,
    KVT_WORD = 2,
    KVT_SHORT = 3,
    KVT_DWORD = 4,
    KVT_INT = 5,
    KVT_DWORD64 = 6,
    KVT_INT64 = 7,
    KVT_FLOAT = 8,
    KVT_DOUBLE = 9,
    KVT_STRING = 10,
    KVT_RESREF = 11,
    KVT_LOCSTRING = 12,
    KVT_BINARY = 13,
    KVT_STRUCT = 14,
    KVT_LIST = 15,
};

// The records are packed: a borrowed image may place them at any byte offset.

// The 56-byte file header. Offsets are meaningful only in a file image.
struct __attribute__((packed)) KvtHeader_st {
    char fileType[4];
    char version[4];
    uint32_t structOffset;
    uint32_t structCount;
    uint32_t fieldOffset;
    uint32_t fieldCount;
    uint32_t labelOffset;
    uint32_t labelCount;
    uint32_t fieldDataOffset;
    uint32_t fieldDataSize;
    uint32_t fieldIndicesOffset;
    uint32_t fieldIndicesSize;
    uint32_t listIndicesOffset;
    uint32_t listIndicesSize;
};
static_assert(sizeof(KvtHeader_st) == 56);

struct __attribute__((packed)) KvtStruct_st {
    uint32_t structID;
    uint32_t data; // 0 fields: 0xFFFFFFFF; 1 field: its index; more: array offset
    uint32_t fieldCount;
};
static_assert(sizeof(KvtStruct_st) == 12);

struct __attribute__((packed)) KvtField_st {
    uint32_t type;
    uint32_t labelIndex;
    uint32_t data; // inline value, struct index, or byte offset into a block
};
static_assert(sizeof(KvtField_st) == 12);

struct KvtLabel_st {
    char name[16];
};
static_assert(sizeof(KvtLabel_st) == 16);

struct KvtLabelKey;
class CKvtFieldLabelIndex;
class CKvtLabelTableIndex;
class CKvtLookupMemo;
class CKvtFieldIndexArrays;

class CResKVT : public CRes {
public:
    CResKVT();
    ~CResKVT() override;

    bool OnResourceReleased() override;
    bool OnResourceServiced() override;

    // ---- Loading -------------------------------------------------------------
    bool GetFileData(const char* pFileName);
    // The same load from bytes already in memory (the bytes are copied).
    bool LoadFromMemory(const uint8_t* pData, size_t nSize, const char* pNameForMessages);
    void GetFileTypeAndVersion(COroString& sFileType, COroString& sVersion);

    // ---- Structure queries ---------------------------------------------------
    bool GetTopLevelStruct(CKvtStructHandle* pOut);
    int32_t GetStructID(const CKvtStructHandle* pStruct);
    int32_t GetFieldCount(const CKvtStructHandle* pStruct);
    int32_t GetFieldIndexByLabel(const CKvtStructHandle* pStruct, const char* pLabel);
    int32_t GetFieldType(const CKvtStructHandle* pStruct, const char* pLabel, int32_t nIndex);
    const char* GetFieldLabel(const CKvtStructHandle* pStruct, int32_t nIndex);
    // The label of field nIndex, as GetFieldLabel gives it, and in *pType the
    // type of the first field with that label, as GetFieldType gives it for
    // that label ("" when the field has none). One search serves both.
    const char* GetFieldLabelAndType(const CKvtStructHandle* pStruct, int32_t nIndex, int32_t* pType);
    uint32_t GetFieldSize(const CKvtStructHandle* pStruct, const char* pLabel, int32_t nIndex);
    // The bytes a read of the first field with the label looks at: the stored
    // length of a STRING, RESREF or BINARY value and the declared size of a
    // LOCSTRING value, when the value fits its block; 0 for every other
    // field. Bounds what the read copies.
    uint32_t GetFieldValueBytes(const CKvtStructHandle* pStruct, const char* pLabel);
    bool GetStructField(CKvtStructHandle* pOut, const CKvtStructHandle* pStruct, const char* pLabel);
    bool GetList(CKvtListHandle* pOut, const CKvtStructHandle* pStruct, const char* pLabel);
    int32_t GetListCount(const CKvtListHandle* pList);
    bool GetListElement(CKvtStructHandle* pOut, const CKvtListHandle* pList, int32_t nElement);

    // How many of the struct's fields can be reached: its field count, but
    // for two or more fields no more indices than fit between its array
    // offset and the end of the field indices area. -1 for an invalid struct.
    int32_t GetAddressableFieldCount(const CKvtStructHandle* pStruct);
    // How many elements can be reached: the element count, but no more than
    // the struct indices its entry holds; 0 when the list does not exist.
    int32_t GetAddressableListCount(const CKvtListHandle* pList);
    // Number of struct records (0 when empty).
    uint32_t GetStructCount() const;
    // Tells that the caller has read what it wanted of the struct's fields:
    // the lookup index kept for them is given back for other structs to use,
    // and a later lookup in this struct builds it again. Changes no result;
    // the load walk calls it after each struct, so the index stays the size
    // of the structs being read instead of growing with the whole file.
    void ReleaseStructIndex(const CKvtStructHandle* pStruct);

    // ---- Typed readers: success flag 1 or 0, the default on failure ---------
    uint8_t ReadBYTE(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint8_t nDefault);
    int8_t ReadCHAR(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int8_t nDefault);
    uint16_t ReadWORD(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint16_t nDefault);
    int16_t ReadSHORT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int16_t nDefault);
    uint32_t ReadDWORD(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint32_t nDefault);
    int32_t ReadINT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int32_t nDefault);
    uint64_t ReadDWORD64(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint64_t nDefault);
    int64_t ReadINT64(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int64_t nDefault);
    float ReadFLOAT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, float fDefault);
    double ReadDOUBLE(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, double fDefault);
    COroString ReadSTRING(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, COroString sDefault);
    CResRef ReadRESREF(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, CResRef rDefault);
    COroLocString ReadLOCSTRING(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess,
                                COroLocString lsDefault);
    // ReadLOCSTRING into a value the caller holds: on success the value is
    // exactly what ReadLOCSTRING returns, on failure an empty value (StrRef
    // -1, no entries). Spares the temporaries when a node loads its value.
    bool ReadLOCSTRINGInto(const CKvtStructHandle* pStruct, const char* pLabel, COroLocString& value);
    // Copies min(stored length, nBufferSize) bytes; returns pBuffer, or pDefault on failure.
    void* ReadBINARY(const CKvtStructHandle* pStruct, void* pBuffer, uint32_t nBufferSize, const char* pLabel,
                     int32_t* pSuccess, void* pDefault);

    // ---- Writing ---------------------------------------------------------------
    bool CreateNew(CKvtStructHandle* pOut, const COroString& sFileType);
    bool AddStructField(CKvtStructHandle* pOut, const CKvtStructHandle* pParent, const char* pLabel,
                        uint32_t nStructID);
    bool AddList(CKvtListHandle* pOut, const CKvtStructHandle* pParent, const char* pLabel);
    bool AddListElement(CKvtStructHandle* pOut, const CKvtListHandle* pList, uint32_t nStructID);

    bool WriteBYTE(const CKvtStructHandle* pStruct, uint8_t nValue, const char* pLabel);
    bool WriteCHAR(const CKvtStructHandle* pStruct, int8_t nValue, const char* pLabel);
    bool WriteWORD(const CKvtStructHandle* pStruct, uint16_t nValue, const char* pLabel);
    bool WriteSHORT(const CKvtStructHandle* pStruct, int16_t nValue, const char* pLabel);
    bool WriteDWORD(const CKvtStructHandle* pStruct, uint32_t nValue, const char* pLabel);
    bool WriteINT(const CKvtStructHandle* pStruct, int32_t nValue, const char* pLabel);
    bool WriteDWORD64(const CKvtStructHandle* pStruct, uint64_t nValue, const char* pLabel);
    bool WriteINT64(const CKvtStructHandle* pStruct, int64_t nValue, const char* pLabel);
    bool WriteFLOAT(const CKvtStructHandle* pStruct, float fValue, const char* pLabel);
    bool WriteDOUBLE(const CKvtStructHandle* pStruct, double fValue, const char* pLabel);
    bool WriteSTRING(const CKvtStructHandle* pStruct, const COroString& sValue, const char* pLabel);
    bool WriteRESREF(const CKvtStructHandle* pStruct, const CResRef& rValue, const char* pLabel);
    bool WriteLOCSTRING(const CKvtStructHandle* pStruct, const COroLocString& lsValue, const char* pLabel);
    bool WriteBINARY(const CKvtStructHandle* pStruct, const void* pData, uint32_t nSize, const char* pLabel);

    bool SaveToFile(const char* pFileName);

    // ---- Building blocks of the writer (public so tests can watch the layout) --
    // Copies every table into an owned buffer of (used + growth step) capacity.
    void MakeEditable();
    int32_t AddStruct(uint32_t nStructID);
    int32_t AddLabel(const char* pLabel);
    // The new field record (type set, label set, data 0xFFFFFFFF), or null.
    KvtField_st* AddField(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType);
    // Each gives the block's offset in its area, or -1 (as int64) on failure.
    // A new block is asked for with old offset 0xFFFFFFFF and old size 0.
    int64_t ReserveFieldData(uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize);
    // Room for nBytes more bytes of field data in one step: a writer that
    // knows what its values take then never moves the area while it grows
    // (each move holds the old and the new copy at once). Changes no result.
    void MakeRoomForFieldData(uint64_t nBytes);
    // The same for nFields more field records and nStructs more struct
    // records. Changes no result.
    void MakeRoomForRecords(uint64_t nFields, uint64_t nStructs, uint64_t nFieldIndices);
    // The struct is about to get nFields fields: its field indices get that
    // room at once. Changes no result.
    void ExpectFieldCount(const CKvtStructHandle* pStruct, int32_t nFields);
    int64_t ReserveFieldIndices(uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize);
    int64_t ReserveListIndices(uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize);
    // Size of the file image: 56 + every table and block; 0 when empty.
    // Computed in 64 bits: a damaged image may overlap its sections.
    uint64_t GetTotalSize() const;
    // Removes the abandoned bytes of both index areas when there are more
    // than nMinBytes of them and they are more than nMinPercent percent of
    // the file image's size.
    void Compact(uint8_t nMinPercent, uint32_t nMinBytes);

    // Read-only views for tests and tools.
    const KvtHeader_st* GetHeader() const { return m_header.Data(); }
    uint32_t GetFieldIndicesAbandoned() const { return m_nFieldIndicesAbandoned; }
    uint32_t GetListIndicesAbandoned() const { return m_nListIndicesAbandoned; }
    uint32_t GetFieldIndicesCapacity() const { return m_fieldIndices.Capacity(); }
    uint32_t GetListIndicesCapacity() const { return m_listIndices.Capacity(); }
    uint32_t GetFieldDataCapacity() const { return m_fieldData.Capacity(); }
    uint32_t GetStructCapacity() const { return m_structs.Capacity(); }
    uint32_t GetFieldCapacity() const { return m_fields.Capacity(); }
    uint32_t GetLabelCapacity() const { return m_labels.Capacity(); }
    // The field indices area byte for byte (abandoned copies included). A file
    // being built keeps the area in a compact form of its own; asking for the
    // bytes turns it back into the plain byte area.
    const uint8_t* GetFieldIndicesBlock();

    // The file type a manager delivery must carry (4 characters, not terminated).
    void SetExpectedFileType(const char* pFileType);

private:
    // Each table is the object's own, or (all of them together) borrowed
    // from a file image the resource manager delivered. The header's
    // capacity is 1; the others grow by their step, which doubles each time.
    TKvtTable<KvtHeader_st> m_header;
    TKvtTable<KvtStruct_st> m_structs;
    TKvtTable<KvtField_st> m_fields;
    TKvtTable<KvtLabel_st> m_labels;
    TKvtTable<uint8_t> m_fieldData;
    TKvtTable<uint8_t> m_fieldIndices;
    TKvtTable<uint8_t> m_listIndices;
    // Bytes of the index areas left behind by moved blocks, until compaction.
    uint32_t m_nFieldIndicesAbandoned;
    uint32_t m_nListIndicesAbandoned;
    char m_labelResult[17];
    // The lookup key of m_labelResult's text. The load walk reads each value
    // by that very buffer, so its key is kept instead of built again.
    uint64_t m_labelResultKey[2];
    char m_expectedFileType[4];
    // Set while the manager has the image this object borrows.
    int32_t m_bDemanded;

    // Lookups by label in structs with many fields, and of labels by the writer;
    // both built lazily and giving exactly what the linear searches give.
    CKvtFieldLabelIndex* m_pFieldLabelIndex;
    CKvtLabelTableIndex* m_pLabelTableIndex;
    // The latest answers of FindIndexByKey; forgotten at every table change.
    CKvtLookupMemo* m_pLookupMemo;
    // Set while a file built by CreateNew keeps its field indices area as
    // arrays per struct (m_fieldIndices holds no bytes then); see kvtfieldindexarrays.h.
    CKvtFieldIndexArrays* m_pBuiltFieldIndices;

    // A full set of owned tables, sized as MakeEditable sizes them; the used
    // parts are filled in by whoever made the set.
    struct OwnedTables {
        TKvtTable<KvtHeader_st> header;
        TKvtTable<KvtStruct_st> structs;
        TKvtTable<KvtField_st> fields;
        TKvtTable<KvtLabel_st> labels;
        TKvtTable<uint8_t> fieldData;
        TKvtTable<uint8_t> fieldIndices;
        TKvtTable<uint8_t> listIndices;
    };
    // Tables for the counts and sizes of pOld (initial capacities without one),
    // with a new header that holds those counts and sizes.
    OwnedTables NewTables(const KvtHeader_st* pOld) const;
    // Makes the set this object's tables (the old ones must be gone).
    void AdoptTables(OwnedTables&& tables);
    bool IsBorrowed() const { return m_header.IsBorrowed(); }
    // Reads every section of the file named by the header (already checked
    // against the file's size) straight into new owned tables.
    bool ReadSections(int nFile, const KvtHeader_st& header);

    bool LoadImage(const uint8_t* pData, size_t nSize, const char* pName);
    // Gives a borrowed image back to the manager and forgets it.
    void Detach();
    // Frees owned tables or forgets borrowed ones, and drops what was kept
    // about them (abandoned counts, built field indices, lookup indexes).
    void ReleaseTables();
    void ForgetLabelIndexes();
    // Every change to the tables that a lookup by label reads calls this.
    void ForgetLookups();
    // Whether every section with a non-zero count or size lies inside the image.
    static bool ImageSectionsInside(const uint8_t* pImage, uint64_t nSize);
    void PointIntoImage(uint8_t* pImage);

    const KvtStruct_st* ResolveStruct(const CKvtStructHandle* pStruct) const;
    // The field record of field nIndex of the struct, or null.
    KvtField_st* ResolveField(const KvtStruct_st* pRecord, uint32_t nIndex) const;
    KvtField_st* FindField(const CKvtStructHandle* pStruct, const char* pLabel, int32_t nIndex);
    // Hands out a stored label as a terminated string in m_labelResult.
    const char* SetLabelResult(const char* pName);
    // Remembers the field a lookup of the key found (null: none) for the next lookups.
    void NoteFoundField(uint32_t nStructIndex, KvtLabelKey key, const KvtField_st* pField);
    int32_t FindIndexByKey(uint32_t nStructIndex, KvtLabelKey key);
    int32_t LinearFindByKey(const KvtStruct_st* pRecord, KvtLabelKey key) const;
    KvtField_st* FindListField(const CKvtListHandle* pList);
    // The field of the reader's type, or null (warning raised for another type).
    KvtField_st* FieldForRead(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType, int32_t nLine);
    // The bytes from the field's offset to the end of its area (the list
    // indices for a LIST field, the field data otherwise), or an empty span
    // when the offset lies outside or fewer than nMinSize bytes follow it.
    std::span<const uint8_t> FieldData(const KvtField_st* pField, uint64_t nMinSize) const;
    // The value of a field stored as its length (nPrefix bytes: 1 or 4) and
    // that many bytes; nothing when it does not fit its area.
    std::optional<std::span<const uint8_t>> PrefixedValue(const KvtField_st* pField, uint32_t nPrefix) const;
    // The ten fixed-size readers: values up to 4 bytes come from the field
    // record, 8-byte values from the field data.
    template <typename T>
    T ReadFixed(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, T defaultValue, uint32_t nType,
                int32_t nLine);
    // Reads a LOCSTRING field's value into value; false when it does not fit
    // its block or its substrings do not add up to the declared size.
    bool ParseLocString(const KvtField_st* pField, COroLocString& value);

    bool HasFieldIndicesArea() const { return m_fieldIndices.Data() != nullptr || m_pBuiltFieldIndices != nullptr; }
    // Writes the built area out as the plain byte area and drops the arrays.
    void MaterializeFieldIndices();
    // ReserveFieldIndices for the built area: the same offsets, sizes,
    // capacity and abandoned count, with the struct's entries kept apart.
    int64_t ReserveBuiltFieldIndices(uint32_t nStruct, uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize);

    enum class TArea { FieldData, FieldIndices, ListIndices };
    int64_t ReserveBlock(TArea eArea, uint32_t nOldOffset, uint32_t nOldSize, uint32_t nNewSize);
    TKvtTable<uint8_t>& AreaTable(TArea eArea);
    uint32_t GetAreaUsed(TArea eArea) const;
    void SetAreaUsed(TArea eArea, uint32_t nUsed);
    // Adds a field whose value is held in the field record itself.
    bool AddInlineField(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType, uint32_t nData);
    KvtField_st* AddFieldWithData(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType,
                                  const void* pBytes, uint32_t nSize);
    // Copies the live blocks of an index area to its front in record order,
    // leaving the abandoned bytes behind.
    void CompactIndexArea(TArea eArea);
};
