// The smallest node agent: turns a different way at every decision.
//     gulper-sim --agent 'exec:node kits/node/example.js' --games 10
const agent = require('./gulper_agent');
agent.run((obs) => 1 + (obs.tick % 4), {name: 'node example'});
