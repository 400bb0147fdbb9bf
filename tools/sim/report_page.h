// The report's one HTML page: the summary and the pictures inline, nothing to fetch.
#pragma once

#include <string>

#include "tools/sim/stats.h"

// The page for the summary, with the three pictures' PNG bytes embedded.
std::string Page(const RunSummary& s, const std::string& scoresPng, const std::string& ticksPng,
                 const std::string& caughtPng);
