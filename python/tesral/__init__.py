"""Tesral from Python: reflection runs, models, powder patterns and zone-axis sections of
quasicrystals, computed by the same engine as the window and tesral-cli.

    import tesral
    r = tesral.run(system='icosahedral', group='P235', limits=3, a=5.1)
    print(len(r), r.theta[:5])
    r.write_report('run.hkl')

help(tesral.run) lists the inputs; numpy is needed for the arrays only.
"""

from ._tesral import *  # noqa: F401,F403
