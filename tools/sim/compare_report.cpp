// The comparison's report page.
#include "tools/sim/report.h"

bool WriteComparisonReport(const std::string& dir, const Comparison&, const std::vector<Side>&,
                           std::string* error) {
    *error = "the comparison report is not written yet (" + dir + ")";
    return false;
}
