// The way back from the end screen: the space key, and where the window is on a touch
// screen, which has no such key, a tap too. Clicks of the mouse stay without effect.
#pragma once

// The prompt under the result: "按空格键返回……", or on a touch screen the same with the tap
// named (game text, shown in the chosen language as every text is).
const char* backPrompt();
// Polls without pause until the space key is down or a tap ends on the window; a tap that came
// before the call (the one that decided the match, say) does not count.
void waitForBack();
