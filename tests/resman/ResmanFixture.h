#pragma once
// Common ground of the resource-layer tests: the global resource manager
// exists for the whole run (as in the program), every test records reports,
// and small helpers load images and save objects to bytes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KvtImageBuilder.h"
#include "TempDir.h"
#include "ororeportrecorder.h"
#include "reskvt.h"

class ResmanTest : public ::testing::Test {
protected:
    // An object loaded from the bytes (through the in-memory path); null when refused.
    std::unique_ptr<CResKVT> LoadBytes(const std::vector<uint8_t>& bytes);
    std::unique_ptr<CResKVT> LoadImage(const CKvtImageBuilder& image) { return LoadBytes(image.Build()); }
    // Saves the object into the test's folder and returns the file's bytes.
    std::vector<uint8_t> SaveBytes(CResKVT& res, const std::string& sName = "saved.kvt");
    // Saves, then loads the file again through GetFileData.
    std::unique_ptr<CResKVT> SaveAndReload(CResKVT& res);

    size_t ReportsFrom(const std::string& sModule, int32_t nLine) const { return m_recorder.CountFrom(sModule, nLine); }

    COroReportRecorder m_recorder;
    CTempDir m_dir;
};

// A readable dump of recorded reports for failure messages.
std::string DescribeReports(const COroReportRecorder& recorder);
