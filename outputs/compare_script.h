// The script that draws a comparison page's charts from its data.
#pragma once

#include <string>

namespace gulper {

// The <script> element: reads gulperData's sides (label, short, watch, win, score), pairs
// (a, b, win, score) and seeds (seed, then each side's score, outcome and ticks), and draws
// the charts; a <select id="seeds-pair"> on the page chooses the pair whose seeds are shown.
std::string CompareScript();

}  // namespace gulper
