# Types of the fleetjudge module (module.cpp).
import os
from typing import Any, Literal, Sequence, SupportsIndex, Union

__version__: str

Path = Union[str, os.PathLike[str], os.PathLike[bytes]]
Input = Union[Path, bytes]
Routes = Sequence[Sequence[SupportsIndex]]

class InputError(ValueError): ...

class Verdict:
    @property
    def status(self) -> int: ...
    @property
    def output(self) -> str: ...

def check(instance: Input, solution: Input) -> Verdict: ...
def report(
    instance: Input,
    solution: Union[Input, Routes],
    *,
    solution_format: Literal["auto", "fleetjudge", "routes", "plain"] = "auto",
    instance_format: Literal["auto", "solomon", "vrplib"] = "auto",
    convention: Literal["auto", "exact", "truncated", "rounded"] = "auto",
) -> dict[str, Any]: ...
