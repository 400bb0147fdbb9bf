// The comparison page's charts: each side's and each pair's estimates over their intervals,
// and any pair's scores seed by seed, the pair chosen on the page.
#include "outputs/compare_script.h"

namespace gulper {

std::string CompareScript() {
    return R"JS(<script>
(function () {
  var d = gulperData;
  // Each estimate as a point over its 95 % interval, drawn as a floating bar; `names` are what
  // the axis shows, `full` what the tooltip names.
  function intervals(id, names, full, rows, unit, places, zero) {
    var sets = [{type: 'line', label: 'estimate', data: rows.map(function (r) { return r[0]; }),
                 showLine: false, pointStyle: 'rectRot', pointRadius: 7, pointHoverRadius: 9,
                 backgroundColor: '#f0c828', borderColor: '#f0c828'},
                {type: 'bar', label: '95 % interval', data: rows.map(function (r) {
                   return [r[1], r[2]]; }), backgroundColor: 'rgba(80,150,240,0.55)',
                 borderColor: '#5096f0', borderWidth: 1, barPercentage: 0.35}];
    if (zero) sets.push({type: 'line', label: 'no difference', data: names.map(function () {
      return 0; }), borderColor: '#888', borderDash: [6, 4], pointRadius: 0, borderWidth: 1});
    function f(v) { return v.toFixed(places) + unit; }
    gulperChart(id, {type: 'bar', data: {labels: names, datasets: sets}, options: {
      plugins: {tooltip: {callbacks: {
        title: function (items) { return full[items[0].dataIndex]; },
        label: function (item) {
          var r = rows[item.dataIndex];
          return item.dataset.label === 'no difference' ? null :
                 f(r[0]) + ', 95 % interval ' + f(r[1]) + ' to ' + f(r[2]); }}}},
      scales: {x: {ticks: {maxRotation: 0, autoSkip: false}}, y: {beginAtZero: !zero}}}});
  }
  function short(s) { return s.short; }
  function label(s) { return s.label; }
  intervals('win-rates', d.sides.map(short), d.sides.map(label),
            d.sides.map(function (s) { return s.win; }), ' %', 1, false);
  intervals('mean-scores', d.sides.map(short), d.sides.map(label),
            d.sides.map(function (s) { return s.score; }), '', 1, false);
  function pairName(p, of) { return of(d.sides[p.a]) + ' \u2212 ' + of(d.sides[p.b]); }
  // On the axis, a pair on two lines: the first side, then less the second.
  var pairShort = d.pairs.map(function (p) {
    return [short(d.sides[p.a]), '\u2212 ' + short(d.sides[p.b])]; });
  var pairFull = d.pairs.map(function (p) { return pairName(p, label); });
  intervals('win-differences', pairShort, pairFull, d.pairs.map(function (p) { return p.win; }),
            ' points', 1, true);
  intervals('score-differences', pairShort, pairFull,
            d.pairs.map(function (p) { return p.score; }), '', 1, true);

  // One pair's scores on every seed, coloured by which scored more. A seed's row holds the
  // seed, then each side's score, outcome and ticks.
  var colours = ['#f08c28', '#28c8a0', '#969696'];
  var seeds = null, pair = d.pairs[0];
  function game(row, side) {
    var at = 1 + 3 * side;
    return d.sides[side].short + ' ' + OUTCOMES[row[at + 1]] + ', score ' + row[at] + ', ' +
           row[at + 2] + ' ticks';
  }
  function describe(p) {
    return 'seed ' + p.row[0] + ': ' + game(p.row, pair.a) + '; ' + game(p.row, pair.b);
  }
  function commands(p) {
    return [pair.a, pair.b].map(function (s) {
      return 'gulper-watch ' + p.row[0] + d.sides[s].watch; });
  }
  function datasets() {
    var groups = [[], [], []], a = 1 + 3 * pair.a, b = 1 + 3 * pair.b;
    d.seeds.forEach(function (row) {
      groups[row[a] > row[b] ? 0 : row[a] < row[b] ? 1 : 2].push(
          {x: row[a], y: row[b], row: row}); });
    var names = [d.sides[pair.a].short + ' scored more', d.sides[pair.b].short + ' scored more',
                 'the same'];
    return groups.map(function (g, i) {
      return {label: names[i], data: g, backgroundColor: colours[i], pointRadius: 2.5,
              pointHoverRadius: 6}; });
  }
  function axis(side, where) {
    return {title: {display: true, text: d.sides[side].short + "'s score " + where},
            beginAtZero: true};
  }
  seeds = gulperChart('seeds', {type: 'scatter', data: {datasets: datasets()},
    options: {
      onHover: function (event, elements, chart) {
        if (!elements.length) return;
        var p = chart.data.datasets[elements[0].datasetIndex].data[elements[0].index];
        gulperShow(describe(p), commands(p));
      },
      plugins: {tooltip: {callbacks: {label: function (item) { return describe(item.raw); },
                                      footer: function (items) {
                                        return commands(items[0].raw).join('\n'); }}}},
      scales: {x: axis(pair.a, 'across'), y: axis(pair.b, 'up')}}});
  // Choosing another pair redraws the seeds for it.
  var chooser = document.getElementById('seeds-pair');
  function choose(index) {
    pair = d.pairs[index];
    chooser.value = String(index);
    seeds.data.datasets = datasets();
    seeds.options.scales.x = axis(pair.a, 'across');
    seeds.options.scales.y = axis(pair.b, 'up');
    seeds.update();
  }
  if (chooser) {
    chooser.addEventListener('change', function () { choose(Number(chooser.value)); });
    // An address ending in #pair=K (from 1) opens with the K-th pair shown.
    var asked = /pair=(\d+)/.exec(location.hash);
    if (asked && asked[1] >= 1 && asked[1] <= d.pairs.length) choose(asked[1] - 1);
  }
})();
</script>
)JS";
}

}  // namespace gulper
