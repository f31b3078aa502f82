#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// Keeps every repetition's CPU time per benchmark; comparisons use the
// median, which one disturbed repetition on a busy machine does not move.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration)
                m_ms[r.run_name.function_name].push_back(r.GetAdjustedCPUTime());
        ConsoleReporter::ReportRuns(runs);
    }
    double Ms(const std::string& name) const
    {
        auto it = m_ms.find(name);
        if (it == m_ms.end() || it->second.empty())
            return 0.0;
        std::vector<double> v = it->second;
        std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
        return v[v.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> m_ms;
};
