// A Gulper agent over the line protocol (docs/agent-protocol.md) for node, no packages needed.
//
//     const agent = require('./gulper_agent');
//     agent.run((obs) => agent.RIGHT, {name: 'always right'});
//
// run(decide, {name, start, end}) answers each game's hello with `name`, calls decide(obs) at
// each decision and sends what it returns: an action (0 keep going, 1 left, 2 up, 3 right,
// 4 down) or {action, plan} with plan {route: [[c, r], ...], goal: [c, r], state: 'word'}.
// It speaks the newest protocol both sides know: under 2 each answer gives its decision.
'use strict';
const readline = require('readline');

const ACTIONS = {KEEP: 0, LEFT: 1, UP: 2, RIGHT: 3, DOWN: 4};
const PROTOCOL = 2;

function run(decide, options = {}) {
    const name = options.name || 'node agent';
    const lines = readline.createInterface({input: process.stdin, terminal: false});
    const send = (answer) => process.stdout.write(JSON.stringify(answer) + '\n');
    let protocol = 1;
    lines.on('line', (line) => {
        const message = JSON.parse(line);
        if (message.type === 'hello') {
            if (options.start) options.start(message);
            protocol = Math.min(message.protocol || 1, PROTOCOL);
            send(protocol >= 2 ? {name, protocol} : {name});
        } else if (message.type === 'decide') {
            const chosen = decide(message.obs);
            const answer = typeof chosen === 'number' ? {action: chosen} : chosen;
            send(protocol >= 2 ? Object.assign({decision: message.decision}, answer) : answer);
        } else if (message.type === 'end' && options.end) {
            options.end(message);
        }
    });
}

module.exports = Object.assign({run}, ACTIONS);
