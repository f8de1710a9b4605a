// Pulse Vignette: darkens the corners with a vignette that breathes over time
// and fades in over the clip's duration; odd frames flicker slightly.
// d = distance from the centre / half diagonal
// pulse = 0.75 + 0.25 * sin(2 pi * rate * time)
// fade = duration > 0 ? clamp(time / duration, 0, 1) : 1
// flicker = frame odd ? 0.98 : 1
// out.rgb = in.rgb * (1 - clamp(strength * pulse * fade * d * d, 0, 1)) * flicker; alpha unchanged.
__constant sampler_t pixelSampler = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;

__kernel void pulse_vignette(__read_only image2d_t input, __write_only image2d_t output,
                             float time, int frame, float duration,
                             float strength, float rate)
{
    const int2 position = (int2)(get_global_id(0), get_global_id(1));
    const float2 size = convert_float2(get_image_dim(input));
    const float2 offset = convert_float2(position) + 0.5f - 0.5f * size;
    const float d = length(offset) / (0.5f * length(size));
    const float pulse = 0.75f + 0.25f * sin(2.0f * M_PI_F * rate * time);
    const float fade = duration > 0.0f ? clamp(time / duration, 0.0f, 1.0f) : 1.0f;
    const float flicker = (frame & 1) ? 0.98f : 1.0f;
    const float4 pixel = read_imagef(input, pixelSampler, position);
    const float shade = 1.0f - clamp(strength * pulse * fade * d * d, 0.0f, 1.0f);
    write_imagef(output, position, (float4)(pixel.xyz * shade * flicker, pixel.w));
}
