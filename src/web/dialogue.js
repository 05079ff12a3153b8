// The dialogue pane's side of the console's menu loop, inside the module. runDialogue starts
// the loop; onOutput gets every byte it writes, as they are flushed. The session's enter(line)
// answers the prompt the loop waits at (null ends the input), and finished resolves to its status.
Module['runDialogue'] = (onOutput) => {
  const lines = [];
  let waiting = null;
  Module.dialogueOutput = onOutput;
  Module.dialogueLine = () =>
    lines.length > 0 ? Promise.resolve(lines.shift()) : new Promise((resolve) => { waiting = resolve; });
  const finished = ccall('webRunDialogue', 'number', [], [], {async: true});
  return {
    enter(line) {
      const text = line === null ? null : line + '\n';
      if (waiting) {
        const resolve = waiting;
        waiting = null;
        resolve(text);
      } else {
        lines.push(text);
      }
    },
    finished,
  };
};
