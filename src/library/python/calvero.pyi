# Types of the module calvero (the CALVERO1 fitting engine) for editors and
# type checkers. The module itself is compiled; this file describes it.
from os import PathLike
from typing import Any, Iterator, Literal, Mapping, Sequence, SupportsFloat, SupportsIndex, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

# The identifiers of calvero.Refused.code, in the order of the C library's
# calvero_refusal_code (which numbers them from 1; 0 is "fitted").
RefusalCode = Literal[
    "message",
    "bad_arguments",
    "kind_not_chosen",
    "too_few_points",
    "too_few_points_for_degree",
    "too_few_distinct_x",
    "too_many_points",
    "surface_undetermined",
    "not_positive",
    "missing_temperatures",
    "division_by_zero",
    "invalid_operation",
    "overflow",
    "option_not_for_kind",
    "too_many_conditions",
    "no_such_term",
    "term_fixed_twice",
    "invalid_condition",
    "through_point_at_zero",
    "zero_value",
    "missing_weights",
    "non_positive_weight",
    "minimax_with_weights",
    "through_points_not_monotone",
    "dependent_conditions",
    "conditions_undetermined",
    "incompatible_conditions",
    "not_solved",
    "no_export",
    "invalid_rated_point",
    "no_value_in_range",
    "zero_at_rated_point",
    "invalid_cell",
    "unknown_format",
    "invalid_tolerance",
    "invalid_question",
    "no_curve",
    "no_value_at",
    "question_not_for_kind",
    "no_x_for_y",
    "no_operating_point",
    "no_duty_ratio",
    "affinity_not_kept",
    "unknown_object",
    "object_inputs",
    "needs_nonlinear_solver",
    "invalid_unit_type",
    "not_a_grid",
    "not_normalizable",
    "invalid_equation",
    "invalid_parameter_setting",
    "too_few_points_for_parameters",
    "non_finite_value",
    "not_converged",
    "singular_jacobian",
    "least_squares_in_y_not_with_options",
]
REFUSAL_CODES: tuple[RefusalCode, ...]

Kind = Union[
    Literal["scatter", "power", "polynomial", "exponential", "rational", "temperature-time", "surface", "saturation"],
    int,
]
Real = Union[float, int, np.floating[Any], np.integer[Any]]
Values = Union[Sequence[Real], npt.NDArray[np.floating[Any]], npt.NDArray[np.integer[Any]]]
Quantity = Literal["head", "power", "efficiency"]
ExportFormat = Literal["energyplus", "ahri540", "formula", "c-function", "python-function"]

class Refused(Exception):
    message: str
    code: RefusalCode
    def __init__(self, message: str, code: RefusalCode = ...) -> None: ...

class Result:
    @property
    def coefficients(self) -> npt.NDArray[np.float64]: ...
    @property
    def coefficient_names(self) -> list[str]: ...
    @property
    def statistics(self) -> dict[str, Any]: ...
    @property
    def shape_checks(self) -> dict[str, Any]: ...
    @property
    def report(self) -> str: ...
    @property
    def kind(self) -> int: ...
    @property
    def kind_name(self) -> str: ...
    @property
    def degree(self) -> int: ...
    @property
    def n(self) -> int: ...
    @overload
    def evaluate(self, x: Real, y: Real | None = ...) -> float: ...
    @overload
    def evaluate(self, x: Values, y: Values | Real | None = ...) -> npt.NDArray[np.float64]: ...
    def predict(
        self,
        x: Real,
        y: Real | None = ...,
        interval: Literal["confidence", "prediction"] = ...,
        level: Real = ...,
        weight: Real = ...,
    ) -> tuple[float, float, float]: ...
    def solve_y(self, y: Real, level: Real = ...) -> list[dict[str, Any]]: ...
    def operating_points(
        self,
        k: Real | None = ...,
        p0: Real = ...,
        n: Real = ...,
        through: Sequence[Real] | None = ...,
        level: Real = ...,
    ) -> list[dict[str, Any]]: ...
    def scaled(self, ratio: Real, quantity: Quantity = ...) -> Result: ...
    def duty(self, q: Real, h: Real, quantity: Quantity = ...) -> list[float]: ...

class DataSet(Mapping[str, Any]):
    def __getitem__(self, key: str) -> Any: ...
    def __iter__(self) -> Iterator[str]: ...
    def __len__(self) -> int: ...
    def __getattr__(self, key: str) -> Any: ...

def fit(
    x: Values,
    y: Values,
    kind: Kind = ...,
    degree: SupportsIndex = ...,
    z: Values | None = ...,
    t_initial: SupportsFloat | None = ...,
    t_final: SupportsFloat | None = ...,
    through: Sequence[Sequence[Real]] | None = ...,
    fix: Mapping[int, Real] | None = ...,
    weights: Literal["relative"] | Values | None = ...,
    minimax: bool = ...,
    monotone: Literal["increasing", "decreasing"] | None = ...,
    curvature: Literal["concave", "convex"] | None = ...,
    least_squares_in_y: bool = ...,
    equation: str | None = ...,
    start: Mapping[str, Real] | None = ...,
) -> Result: ...
def compare(
    x: Values,
    y: Values,
    z: Values | None = ...,
    t_initial: SupportsFloat | None = ...,
    t_final: SupportsFloat | None = ...,
    kind: Kind | None = ...,
    degree: SupportsIndex = ...,
    tolerance: SupportsFloat = ...,
) -> list[dict[str, Any]]: ...
def export(
    result: Result,
    format: ExportFormat,
    name: str | None = ...,
    rated: Real | Sequence[Real] | None = ...,
    units: Literal["C", "F"] = ...,
    cells: tuple[str, str] | None = ...,
) -> str: ...
def read_dataset(path: str | PathLike[str]) -> DataSet: ...
