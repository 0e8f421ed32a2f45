"""Tesral from Python: reflection runs, models, powder patterns, zone-axis sections,
refinement and real-space structures of quasicrystals, computed by the same engine as the
window and tesral-cli.

    import tesral
    r = tesral.run(system='icosahedral', group='P235', limits=3, a=5.1)
    print(len(r), r.theta[:5])
    r.write_report('run.hkl')

help(tesral.run) lists the inputs; numpy is needed for the arrays only.
"""

from . import _tesral
from ._tesral import (Model, PowderPattern, Reflections, Site, SiteList, ZoneSection, groups,
                      one_site, powder, refine, run, structure, zone)

__all__ = ["run", "powder", "zone", "refine", "structure", "groups", "one_site", "Model", "Site",
           "SiteList", "Reflections", "PowderPattern", "ZoneSection"]

# The classes are shown as the package's own (tesral.Model, not tesral._tesral.Model).
for _name in __all__:
    _item = getattr(_tesral, _name)
    if isinstance(_item, type):
        _item.__module__ = __name__
del _name, _item
