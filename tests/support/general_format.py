"""The program's general number format, for the test readers: 15 significant digits
without trailing zeros, a point, no grouping; scientific below 0.00001 in magnitude and
from 16 integer digits on ("1.5E-6", "1E+15"). Excel shows the exponent with two digits at
least ("1.5E-06"): exponent_digits=2."""


def general(v, exponent_digits=1):
    if v == 0:
        return '0'
    mantissa, exponent = ('%.14e' % v).split('e')
    e = int(exponent)
    sign = '-' if mantissa.startswith('-') else ''
    mantissa = mantissa.lstrip('-')
    digits = mantissa.replace('.', '').rstrip('0') or '0'
    if abs(float(mantissa + 'e' + exponent)) < 1e-5 or e >= 15:
        rest = '.' + digits[1:] if len(digits) > 1 else ''
        return '%s%s%sE%s%0*d' % (sign, digits[0], rest, '-' if e < 0 else '+', exponent_digits, abs(e))
    if e < 0:
        return sign + '0.' + '0' * (-e - 1) + digits
    whole = e + 1
    if len(digits) <= whole:
        return sign + digits + '0' * (whole - len(digits))
    return sign + digits[:whole] + '.' + digits[whole:]
