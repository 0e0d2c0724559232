// Instance screening: stops on a customer without demand, then lists the
// customers that no vehicle could serve even alone (unreachable in their
// window, unable to return to the depot in time, demand above the capacity).
// Any listed customer makes the instance infeasible (`infeasible` of the run).
#pragma once

struct Run;
void screen_instance(Run &r);
