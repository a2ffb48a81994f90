#pragma once
// Sets (or unsets, with a null value) one environment variable for the
// lifetime of the object and restores the old state afterwards.

#include <cstdlib>
#include <string>

class CScopedEnv {
public:
    CScopedEnv(const char* pName, const char* pValue) : m_sName(pName)
    {
        const char* pOld = std::getenv(pName);
        m_bHadOld = pOld != nullptr;
        if (m_bHadOld)
            m_sOld = pOld;
        if (pValue != nullptr)
            setenv(pName, pValue, 1);
        else
            unsetenv(pName);
    }
    ~CScopedEnv()
    {
        if (m_bHadOld)
            setenv(m_sName.c_str(), m_sOld.c_str(), 1);
        else
            unsetenv(m_sName.c_str());
    }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_sName;
    std::string m_sOld;
    bool m_bHadOld = false;
};
